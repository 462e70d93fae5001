#pragma once
// Resource identifiers of the band window: the mode menu and its commands.
#define IDR_MODE_MENU 208
#define ID_MODE_SELECT 32771
#define ID_MODE_FILTER 32772
#define ID_MODE_SETTINGS 32773
