#Requires AutoHotkey v2.0
; MOLV_Wrap from AutoHotkey v2: match, substitute, translate and split with
; regular expressions.
;
; Uses the MOLV_Wrap.dll built with the preset windows (__cdecl exports),
; with our bregexp.dll beside it, both in this script's folder. That DLL is
; 32-bit: run the script with AutoHotkey32.exe (AutoHotkey64.exe needs the
; 64-bit build of the preset windows64).
;
; Every call names "Cdecl" in its return type, as the DLL's exports are
; __cdecl. Texts go to the DLL as "AStr", 8-bit texts in the system's ANSI
; code page, and the DLL answers with a pointer into its one result string,
; which the next call overwrites: MolvText copies the text at once with
; StrGet(pointer, "CP0").
;
; Positions are "offset:length" texts in bytes; past 65535 bytes they wrap
; around modulo 65536. An empty answer is "nothing" or a failure: after one,
; MolvErrorMsg() is the library's message, "" if nothing failed.

MolvLoad(A_ScriptDir)

report := "module " MolvModuleVersion() ", " MolvVersion() "`n"

whole := MolvMatch("/(\d{4})-(\d\d)-(\d\d)(x)?/", "released on 2024-03-15")
if (whole = "") {
    report .= "no match " MolvErrorMsg() "`n"
} else {
    report .= "match " whole " " MolvPosToStr(whole) "`n"
    while MolvHasMoreResults() {
        position := MolvGetNext()
        if (position = "")
            report .= "  group took no part`n"
        else
            report .= "  group " position " " MolvPosToStr(position) "`n"
    }
}

report .= MolvSubst("s/(\w+) (\w+)/$2, $1/", "John Smith") "`n"
report .= MolvTrans("tr/a-z/A-Z/", "hello, world") "`n"

count := MolvSplit("/\s*,\s*/", "alice, 42 ,Berlin,  admin", 3)
report .= count " pieces`n"
while MolvHasMoreResults()
    report .= "  " MolvPosToStr(MolvGetNext()) "`n"

if (MolvMatch("m/(/", "abc") = "")
    report .= "error: " MolvErrorMsg() "`n"

MsgBox(report, "MOLV_Wrap")

; Loads MOLV_Wrap.dll from FOLDER, so that the calls below, which name the
; DLL without a folder, find it already loaded. The DLL itself loads the
; bregexp.dll beside it.
MolvLoad(folder) {
    path := folder "\MOLV_Wrap.dll"
    if !DllCall("LoadLibrary", "Str", path, "Ptr")
        throw Error("Cannot load " path " (Windows error " A_LastError
            . "; 193: a DLL for the other bitness; 1114: no usable bregexp.dll beside it)")
}

; The zero-terminated 8-bit text at a pointer the DLL returned, copied.
MolvText(pointer) => pointer ? StrGet(pointer, "CP0") : ""

; The position "offset:length" of the first match, "" for none or a failure.
; The groups' positions follow through MolvHasMoreResults and MolvGetNext.
MolvMatch(pattern, subject) => MolvText(DllCall("MOLV_Wrap\MOLV_MATCH", "AStr", pattern, "AStr", subject, "Cdecl Ptr"))

; SUBJECT with s/PATTERN/REPLACEMENT/FLAGS applied; "" on a failure.
MolvSubst(pattern, subject) => MolvText(DllCall("MOLV_Wrap\MOLV_SUBST", "AStr", pattern, "AStr", subject, "Cdecl Ptr"))

; SUBJECT with tr/SEARCH/REPLACE/FLAGS applied; "" on a failure.
MolvTrans(pattern, subject) => MolvText(DllCall("MOLV_Wrap\MOLV_TRANS", "AStr", pattern, "AStr", subject, "Cdecl Ptr"))

; The number of pieces, as Perl's split with LIMIT; -1 for none or a failure.
; The pieces' positions follow through MolvHasMoreResults and MolvGetNext.
MolvSplit(pattern, subject, limit := 0) => DllCall("MOLV_Wrap\MOLV_SPLIT", "AStr", pattern, "AStr", subject, "Int", limit, "Cdecl Int")

; The next position kept by the last match or split; "" for a group that
; took no part, or when none is left.
MolvGetNext() => MolvText(DllCall("MOLV_Wrap\MOLV_GETNEXT", "Cdecl Ptr"))

MolvHasMoreResults() => DllCall("MOLV_Wrap\MOLV_HASMORERESULTS", "Cdecl Int")

; The piece of the last matched or split subject at POSITION.
MolvPosToStr(position) => MolvText(DllCall("MOLV_Wrap\MOLV_POSTOSTR", "AStr", position, "Cdecl Ptr"))

; The library's message from the last match, substitution, translation or
; split; "" after a success.
MolvErrorMsg() => MolvText(DllCall("MOLV_Wrap\MOLV_ERRORMSG", "Cdecl Ptr"))

; The version text of the bregexp.dll the DLL loaded.
MolvVersion() => MolvText(DllCall("MOLV_Wrap\MOLV_VERSION", "Cdecl Ptr"))

; The DLL's own version, such as "1.01".
MolvModuleVersion() => MolvText(DllCall("MOLV_Wrap\MOLV_MOLVWVERSION", "Cdecl Ptr"))
