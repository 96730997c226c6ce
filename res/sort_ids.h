// Resource identifiers of the sort dialog.
#pragma once

#define IDD_SORT                20035
#define IDC_SORT_PROMPT         3501
#define IDC_SORT_NAME           3502
#define IDC_SORT_EXTENSION      3503
#define IDC_SORT_SIZE           3504
#define IDC_SORT_DATE           3505
#define IDC_SORT_ASCENDING      3506
#define IDC_SORT_DESCENDING     3507
