#pragma once
// Resource numbers of the input box's glyphs (16x16, 32-bit colour with alpha).
#define IDI_FILTER_MODE 225    // funnel over a stack of documents
#define IDI_SELECT_MODE 227    // pointing hand over a stack of documents
#define IDI_CLEAR 230          // red square with a white cross
#define IDI_CLEAR_PRESSED 231  // the same, darker
#define IDI_CLEAR_HOT 232      // the same, lighter
// The same five drawn for a dark background: each number plus this.
#define IDI_DARK_OFFSET 10
#define IDI_FILTER_MODE_DARK 235
#define IDI_SELECT_MODE_DARK 237
#define IDI_CLEAR_DARK 240
#define IDI_CLEAR_PRESSED_DARK 241
#define IDI_CLEAR_HOT_DARK 242
