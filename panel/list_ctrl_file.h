#pragma once
// The panel's list view (control 1000). It accepts files dropped from the shell; what a
// drop does is the list's own business.

#include "ui/controls.h"

class CListCtrlFile : public CListCtrl {};
