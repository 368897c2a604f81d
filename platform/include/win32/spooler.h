// Spooler: printers, drivers, printer data and jobs.
#pragma once
#include "win32/base.h"
#include "win32/gdi.h"

#define WINSPOOLAPI extern "C"

#define PRINTER_ACCESS_ADMINISTER 0x00000004
#define PRINTER_ACCESS_USE 0x00000008
#define PRINTER_ALL_ACCESS 0x000F000C

#define PRINTER_ATTRIBUTE_QUEUED 0x00000001
#define PRINTER_ATTRIBUTE_DEFAULT 0x00000004
#define PRINTER_ATTRIBUTE_SHARED 0x00000008
#define PRINTER_ATTRIBUTE_NETWORK 0x00000010
#define PRINTER_ATTRIBUTE_LOCAL 0x00000040

#define PRINTER_ENUM_DEFAULT 0x00000001
#define PRINTER_ENUM_LOCAL 0x00000002
#define PRINTER_ENUM_CONNECTIONS 0x00000004
#define PRINTER_ENUM_ICON8 0x00800000

#define PRINTER_CONTROL_PAUSE 1
#define PRINTER_CONTROL_RESUME 2
#define PRINTER_CONTROL_PURGE 3

#ifndef ERROR_UNKNOWN_PORT
#define ERROR_UNKNOWN_PORT 1796L
#endif
#ifndef ERROR_INVALID_PRINTER_STATE
#define ERROR_INVALID_PRINTER_STATE 1906L
#endif

#define JOB_CONTROL_PAUSE 1
#define JOB_CONTROL_RESUME 2
#define JOB_CONTROL_CANCEL 3
#define JOB_CONTROL_RESTART 4
#define JOB_CONTROL_DELETE 5

#define JOB_STATUS_PAUSED 0x00000001
#define JOB_STATUS_ERROR 0x00000002
#define JOB_STATUS_DELETING 0x00000004
#define JOB_STATUS_SPOOLING 0x00000008
#define JOB_STATUS_PRINTING 0x00000010
#define JOB_STATUS_PRINTED 0x00000080
#define JOB_STATUS_DELETED 0x00000100

#define APD_STRICT_UPGRADE 0x00000001
#define APD_STRICT_DOWNGRADE 0x00000002
#define APD_COPY_ALL_FILES 0x00000004
#define APD_COPY_NEW_FILES 0x00000008

#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4
#define REG_MULTI_SZ 7

struct PRINTER_DEFAULTSW {
    LPWSTR pDatatype;
    LPDEVMODEW pDevMode;
    DWORD DesiredAccess;
};
typedef PRINTER_DEFAULTSW *LPPRINTER_DEFAULTSW;

struct PRINTER_INFO_1W {
    DWORD Flags;
    LPWSTR pDescription;
    LPWSTR pName;
    LPWSTR pComment;
};

struct PRINTER_INFO_2W {
    LPWSTR pServerName;
    LPWSTR pPrinterName;
    LPWSTR pShareName;
    LPWSTR pPortName;
    LPWSTR pDriverName;
    LPWSTR pComment;
    LPWSTR pLocation;
    LPDEVMODEW pDevMode;
    LPWSTR pSepFile;
    LPWSTR pPrintProcessor;
    LPWSTR pDatatype;
    LPWSTR pParameters;
    PVOID pSecurityDescriptor;
    DWORD Attributes;
    DWORD Priority;
    DWORD DefaultPriority;
    DWORD StartTime;
    DWORD UntilTime;
    DWORD Status;
    DWORD cJobs;
    DWORD AveragePPM;
};
typedef PRINTER_INFO_2W *LPPRINTER_INFO_2W;

struct PRINTER_INFO_8W {
    LPDEVMODEW pDevMode;
};

struct DRIVER_INFO_1W {
    LPWSTR pName;
};

struct DRIVER_INFO_2W {
    DWORD cVersion;
    LPWSTR pName;
    LPWSTR pEnvironment;
    LPWSTR pDriverPath;
    LPWSTR pDataFile;
    LPWSTR pConfigFile;
};

struct DRIVER_INFO_3W {
    DWORD cVersion;
    LPWSTR pName;
    LPWSTR pEnvironment;
    LPWSTR pDriverPath;
    LPWSTR pDataFile;
    LPWSTR pConfigFile;
    LPWSTR pHelpFile;
    LPWSTR pDependentFiles;
    LPWSTR pMonitorName;
    LPWSTR pDefaultDataType;
};
typedef DRIVER_INFO_3W *LPDRIVER_INFO_3W;

struct JOB_INFO_1W {
    DWORD JobId;
    LPWSTR pPrinterName;
    LPWSTR pMachineName;
    LPWSTR pUserName;
    LPWSTR pDocument;
    LPWSTR pDatatype;
    LPWSTR pStatus;
    DWORD Status;
    DWORD Priority;
    DWORD Position;
    DWORD TotalPages;
    DWORD PagesPrinted;
    SYSTEMTIME Submitted;
};

struct JOB_INFO_2W {
    DWORD JobId;
    LPWSTR pPrinterName;
    LPWSTR pMachineName;
    LPWSTR pUserName;
    LPWSTR pDocument;
    LPWSTR pNotifyName;
    LPWSTR pDatatype;
    LPWSTR pPrintProcessor;
    LPWSTR pParameters;
    LPWSTR pDriverName;
    LPDEVMODEW pDevMode;
    LPWSTR pStatus;
    PVOID pSecurityDescriptor;
    DWORD Status;
    DWORD Priority;
    DWORD Position;
    DWORD StartTime;
    DWORD UntilTime;
    DWORD TotalPages;
    DWORD Size;
    SYSTEMTIME Submitted;
    DWORD Time;
    DWORD PagesPrinted;
};

struct DOC_INFO_1W {
    LPWSTR pDocName;
    LPWSTR pOutputFile;
    LPWSTR pDatatype;
};

WINSPOOLAPI BOOL WINAPI OpenPrinterW(LPWSTR name, LPHANDLE printer, LPPRINTER_DEFAULTSW defaults);
WINSPOOLAPI BOOL WINAPI ClosePrinter(HANDLE printer);
WINSPOOLAPI HANDLE WINAPI AddPrinterW(LPWSTR server, DWORD level, LPBYTE info);
WINSPOOLAPI BOOL WINAPI DeletePrinter(HANDLE printer);
WINSPOOLAPI BOOL WINAPI GetPrinterW(HANDLE printer, DWORD level, LPBYTE out, DWORD size, LPDWORD needed);
WINSPOOLAPI BOOL WINAPI SetPrinterW(HANDLE printer, DWORD level, LPBYTE info, DWORD command);
WINSPOOLAPI BOOL WINAPI EnumPrintersW(DWORD flags, LPWSTR name, DWORD level, LPBYTE out, DWORD size,
                                      LPDWORD needed, LPDWORD returned);

WINSPOOLAPI BOOL WINAPI AddPrinterDriverW(LPWSTR server, DWORD level, LPBYTE info);
WINSPOOLAPI BOOL WINAPI AddPrinterDriverExW(LPWSTR server, DWORD level, LPBYTE info, DWORD copyFlags);
WINSPOOLAPI BOOL WINAPI GetPrinterDriverW(HANDLE printer, LPWSTR environment, DWORD level, LPBYTE out, DWORD size,
                                          LPDWORD needed);
WINSPOOLAPI BOOL WINAPI GetPrinterDriverDirectoryW(LPWSTR server, LPWSTR environment, DWORD level, LPBYTE out,
                                                   DWORD size, LPDWORD needed);

WINSPOOLAPI DWORD WINAPI GetPrinterDataW(HANDLE printer, LPWSTR name, LPDWORD type, LPBYTE out, DWORD size,
                                         LPDWORD needed);
WINSPOOLAPI DWORD WINAPI SetPrinterDataW(HANDLE printer, LPWSTR name, DWORD type, LPBYTE data, DWORD size);

WINSPOOLAPI DWORD WINAPI StartDocPrinterW(HANDLE printer, DWORD level, LPBYTE docInfo);
WINSPOOLAPI BOOL WINAPI StartPagePrinter(HANDLE printer);
WINSPOOLAPI BOOL WINAPI EndPagePrinter(HANDLE printer);
WINSPOOLAPI BOOL WINAPI WritePrinter(HANDLE printer, LPVOID buffer, DWORD size, LPDWORD written);
WINSPOOLAPI BOOL WINAPI EndDocPrinter(HANDLE printer);
WINSPOOLAPI BOOL WINAPI AbortPrinter(HANDLE printer);
WINSPOOLAPI BOOL WINAPI GetJobW(HANDLE printer, DWORD jobId, DWORD level, LPBYTE out, DWORD size, LPDWORD needed);
WINSPOOLAPI BOOL WINAPI SetJobW(HANDLE printer, DWORD jobId, DWORD level, LPBYTE info, DWORD command);
