// Resource identifiers of the message dialog and the Windows error texts.
#pragma once

#define IDD_MESSAGE             20044
#define IDC_MESSAGE_DUMMY       1049

// Error texts are keyed by the Windows error code; the other long texts start here.
#define IDS_ERROR_TEXT_LIMIT    25002
