#pragma once
// Resource identifiers of the settings dialog; shared by the dialog code and its .rc file.

#define IDD_SETTING_DIALOG 104

#define IDC_SETTING_CASE 201
#define IDC_SETTING_DIGIT_WIDTH 202
#define IDC_SETTING_WIDTH_FORMS 203
#define IDC_SETTING_RUN_ON_INPUT 205
#define IDC_SETTING_HISTORY 206
#define IDC_SETTING_AUTO_FILTER 207
#define IDC_SETTING_DEFAULT_AND 209
#define IDC_SETTING_DEFAULT_OR 210
#define IDC_SETTING_DIAGNOSIS 211

// The balloon on the diagnosis button once the report is on the clipboard.
#define IDS_SETTING_DIAGNOSIS_COPIED 212
