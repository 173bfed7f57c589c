#pragma once

#include "framework/CWnd.h"

class CEdit : public CWnd {};
