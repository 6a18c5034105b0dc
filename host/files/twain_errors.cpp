// The glue's error texts and its "TWAIN Error" boxes.
#include "files/twain.h"
#include "files/twain_internal.h"
#include "base/msgbox.h"
#include <stdio.h>

const char *TwainErrorDetail(int code)
{
    static const char *const kDetails[] = {
        "[no details available]",
        "",
        "DAT_CAPABILITY/MSG_GET failed",
        "DAT_CAPABILITY/MSG_SET failed",
        "Source Manager operation failed",
        "DataSource operation failed",
        "",
        "TWAIN session not in State 4 (Source Open)",
        "MSG_GET returned a NULL container handle",
        "MSG_GET returned an invalid container handle",
        "Returned container is not valid type",
        "Returned container has invalid ItemType",
        "Returned container is empty",
        "App and source found NO values in common",
    };
    return code >= 0 && code < (int)(sizeof kDetails / sizeof kDetails[0]) ? kDetails[code] : "";
}

const char *TwainReturnCodeName(int rc)
{
    static const char *const kNames[] = {
        "TWRC_SUCCESS",    "TWRC_FAILURE",    "TWRC_CHECKSTATUS ('tried hard')", "TWRC_CANCEL",
        "TWRC_DSEVENT",    "TWRC_NOTDSEVENT", "TWRC_XFERDONE",                   "TWRC_ENDOFLIST",
    };
    return rc >= 0 && rc < (int)(sizeof kNames / sizeof kNames[0]) ? kNames[rc] : "(unknown)";
}

const char *TwainConditionCodeName(int cc)
{
    static const char *const kNames[] = {
        "TWCC_SUCCESS",
        "TWCC_BUMMER (Failure due to unknown causes)",
        "TWCC_LOWMEMORY",
        "TWCC_NODS (No Data Source)",
        "TWCC_MAXCONNECTIONS (DS is connected to max possible apps)",
        "TWCC_OPERATIONERROR (DS or DSM reported error, app shouldn't)",
        "TWCC_BADCAP (Unknown capability)",
        "7 (undefined)",
        "8 (undefined)",
        "TWCC_BADPROTOCOL (Unrecognized triplet)",
        "TWCC_BADVALUE (Data parameter out of range)",
        "TWCC_SEQERROR (Triplet out of sequence)",
        "TWCC_BADDEST (Unknown dest. App/Src in DSM_Entry)",
    };
    return cc >= 0 && cc < (int)(sizeof kNames / sizeof kNames[0]) ? kNames[cc] : "(unknown)";
}

void FormatTwainErrorReport(char *out, size_t size, const char *message, int code, int rc, int cc)
{
    if (code >= kTwainErrCapGet && code <= kTwainErrDs)
        snprintf(out, size, "%s\n%s\nRC:   %s\nCC:   %s", message, TwainErrorDetail(code), TwainReturnCodeName(rc),
                 TwainConditionCodeName(cc));
    else
        snprintf(out, size, "%s\n%s", message, TwainErrorDetail(code));
}

void ShowTwainBox(const char *text)
{
    AppMessageBox(NULL, text, "TWAIN Error", MB_OK | MB_ICONEXCLAMATION);
}

void ShowTwainErrorReport(const char *message)
{
    int code, rc, cc;
    GetTwainRecordedError(&code, &rc, &cc);
    char text[512];
    FormatTwainErrorReport(text, sizeof text, message, code, rc, cc);
    ShowTwainBox(text);
}
