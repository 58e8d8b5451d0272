#pragma once
// All resource identifiers of the resource module, one header per subsystem.
#include "ids_core.h"
#include "ids_catalog.h"
#include "ids_catalog_editor.h"
#include "ids_settings.h"
#include "ids_ui.h"
#include "ids_substitutions.h"
#include "ids_files.h"
#include "ids_output.h"
#include "ids_print.h"
#include "ids_jobsetup.h"
#include "ids_printrun.h"
#include "ids_custom.h"
