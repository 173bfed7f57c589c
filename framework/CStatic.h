#pragma once

#include "framework/CWnd.h"

class CStatic : public CWnd {};
