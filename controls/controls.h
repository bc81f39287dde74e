// The skinned control library: everything the installer includes.
#pragma once
#include "controls/button.h"
#include "controls/checkbox.h"
#include "controls/control_class.h"
#include "controls/control_mgr.h"
#include "controls/dibtex.h"
#include "controls/panels.h"
#include "controls/sprite.h"
#include "controls/texdlg.h"
#include "controls/text.h"
