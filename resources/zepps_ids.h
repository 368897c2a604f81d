// Resource ids of the rendering plug-in ZepPS, shared by ZepPS.rc and the C++ code.
#pragma once

// Resource type of the PostScript templates (numeric, "PS").
#define RT_ZEP_PSTEMPLATE 0x5053
// The PostScript templates: watermark initialisation, per-page draw, per-page matrix only.
#define IDR_PS_WATERMARK_INIT 1
#define IDR_PS_WATERMARK_DRAW 2
#define IDR_PS_WATERMARK_MATRIX 3

// The job-name prompt shown at print time.
#define IDD_JOBNAME 103
#define IDC_JOBNAME_GROUP 1007
#define IDC_JOBNAME_LABEL 1005
#define IDC_JOBNAME_EDIT 1006
#define IDS_INPUT_JOB_NAME 8001
