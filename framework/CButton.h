#pragma once

#include "framework/CWnd.h"

class CButton : public CWnd {};
