#pragma once
// String resources of the input box, in Japanese and English (input_texts.rc).
#define IDS_INPUT_BOX_NAME 1000  // the box's name for screen readers
