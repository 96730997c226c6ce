// String resources of the settings file and the file dialogs.
#pragma once

#define IDS_FILTER_ALL          25002
#define IDS_FILTER_PROGRAMS     25003
#define IDS_FILTER_CFG          25004
#define IDS_CFG_IDENT           25005
#define IDS_CFG_FILER_NOTE      25006
#define IDS_CFG_FILER           25007
#define IDS_CFG_VIEWER_NOTE     25008
#define IDS_CFG_VIEWER          25009
#define IDS_CFG_ARCHIVER_NOTE   25010
#define IDS_CFG_ARCHIVER        25011
#define IDS_CFG_ALL_NOTE        25012
#define IDS_CFG_ALL             25013
#define IDS_CFG_COLORS_NOTE     25014
#define IDS_CFG_COLORS          25015
#define IDS_CFG_EXTCMD_NOTE     25016
#define IDS_CFG_EXTCMD          25017
