// CEdit: a plain CWindow over an edit control (the preview's file view).
#pragma once
#include "toolkit/window.h"

class CEdit : public CWindow {};
