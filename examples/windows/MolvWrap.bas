Attribute VB_Name = "MolvWrap"
' MOLV_Wrap from VBA (Excel, Word, Access): match, substitute, translate and
' split with regular expressions.
'
' VBA's Declare calls only __stdcall functions: use the MOLV_Wrap.dll built
' with the preset windows-stdcall, with our bregexp.dll beside it. That DLL
' is 32-bit, for 32-bit Office; 64-bit Office loads only a 64-bit DLL (the
' preset windows64), and there the one calling convention of x64 applies.
'
' Import this file (VBA editor: File > Import File...), then call MolvLoad
' once with the folder of MOLV_Wrap.dll, unless Office finds the DLL on its
' own search path, and use the Molv... functions below. MolvExample shows
' each of them in the Immediate window (Ctrl+G).
'
' Texts go to the DLL as 8-bit texts in the system's ANSI code page (VBA
' converts each String ByVal), and come back the same way. The DLL returns a
' pointer into its one result string, which the next call overwrites: each
' wrapper below copies the text into a VBA String at once.
'
' Positions are "offset:length" texts in bytes; past 65535 bytes they wrap
' around modulo 65536. An empty answer is "nothing" or a failure: after one,
' MolvErrorMsg is the library's message, "" if nothing failed.
Option Explicit

#If VBA7 Then
Private Declare PtrSafe Function MOLV_MATCH Lib "MOLV_Wrap.dll" (ByVal pattern As String, ByVal subject As String) As LongPtr
Private Declare PtrSafe Function MOLV_SUBST Lib "MOLV_Wrap.dll" (ByVal pattern As String, ByVal subject As String) As LongPtr
Private Declare PtrSafe Function MOLV_TRANS Lib "MOLV_Wrap.dll" (ByVal pattern As String, ByVal subject As String) As LongPtr
Private Declare PtrSafe Function MOLV_SPLIT Lib "MOLV_Wrap.dll" (ByVal pattern As String, ByVal subject As String, ByVal limit As Long) As Long
Private Declare PtrSafe Function MOLV_GETNEXT Lib "MOLV_Wrap.dll" () As LongPtr
Private Declare PtrSafe Function MOLV_HASMORERESULTS Lib "MOLV_Wrap.dll" () As Long
Private Declare PtrSafe Function MOLV_POSTOSTR Lib "MOLV_Wrap.dll" (ByVal position As String) As LongPtr
Private Declare PtrSafe Function MOLV_ERRORMSG Lib "MOLV_Wrap.dll" () As LongPtr
Private Declare PtrSafe Function MOLV_VERSION Lib "MOLV_Wrap.dll" () As LongPtr
Private Declare PtrSafe Function MOLV_MOLVWVERSION Lib "MOLV_Wrap.dll" () As LongPtr

Private Declare PtrSafe Function LoadLibraryA Lib "kernel32" (ByVal fileName As String) As LongPtr
Private Declare PtrSafe Function lstrlenA Lib "kernel32" (ByVal lpString As LongPtr) As Long
Private Declare PtrSafe Sub RtlMoveMemory Lib "kernel32" (ByRef destination As Any, ByVal source As LongPtr, ByVal length As LongPtr)
#Else
Private Declare Function MOLV_MATCH Lib "MOLV_Wrap.dll" (ByVal pattern As String, ByVal subject As String) As Long
Private Declare Function MOLV_SUBST Lib "MOLV_Wrap.dll" (ByVal pattern As String, ByVal subject As String) As Long
Private Declare Function MOLV_TRANS Lib "MOLV_Wrap.dll" (ByVal pattern As String, ByVal subject As String) As Long
Private Declare Function MOLV_SPLIT Lib "MOLV_Wrap.dll" (ByVal pattern As String, ByVal subject As String, ByVal limit As Long) As Long
Private Declare Function MOLV_GETNEXT Lib "MOLV_Wrap.dll" () As Long
Private Declare Function MOLV_HASMORERESULTS Lib "MOLV_Wrap.dll" () As Long
Private Declare Function MOLV_POSTOSTR Lib "MOLV_Wrap.dll" (ByVal position As String) As Long
Private Declare Function MOLV_ERRORMSG Lib "MOLV_Wrap.dll" () As Long
Private Declare Function MOLV_VERSION Lib "MOLV_Wrap.dll" () As Long
Private Declare Function MOLV_MOLVWVERSION Lib "MOLV_Wrap.dll" () As Long

Private Declare Function LoadLibraryA Lib "kernel32" (ByVal fileName As String) As Long
Private Declare Function lstrlenA Lib "kernel32" (ByVal lpString As Long) As Long
Private Declare Sub RtlMoveMemory Lib "kernel32" (ByRef destination As Any, ByVal source As Long, ByVal length As Long)
#End If

' The zero-terminated 8-bit text at a pointer the DLL returned, copied into
' a VBA String (converted from the ANSI code page).
#If VBA7 Then
Private Function TextAt(ByVal pointer As LongPtr) As String
#Else
Private Function TextAt(ByVal pointer As Long) As String
#End If
    Dim length As Long
    Dim bytes() As Byte
    If pointer = 0 Then Exit Function
    length = lstrlenA(pointer)
    If length = 0 Then Exit Function
    ReDim bytes(0 To length - 1)
    RtlMoveMemory bytes(0), pointer, length
    TextAt = StrConv(bytes, vbUnicode)
End Function

' Loads MOLV_Wrap.dll from FOLDER, so that the Declare statements above,
' which name the DLL without a folder, find it already loaded. The DLL
' itself loads the bregexp.dll beside it.
Public Sub MolvLoad(ByVal folder As String)
    If Right$(folder, 1) <> "\" Then folder = folder & "\"
    If LoadLibraryA(folder & "MOLV_Wrap.dll") = 0 Then
        Err.Raise vbObjectError + 513, "MolvWrap", _
            "Cannot load " & folder & "MOLV_Wrap.dll (Windows error " & Err.LastDllError & _
            "; 193: a DLL for the other bitness of Office; 1114: no usable bregexp.dll beside it)"
    End If
End Sub

' The position "offset:length" of the first match, "" for none or a failure.
' The groups' positions follow through MolvHasMoreResults and MolvGetNext.
Public Function MolvMatch(ByVal pattern As String, ByVal subject As String) As String
    MolvMatch = TextAt(MOLV_MATCH(pattern, subject))
End Function

' SUBJECT with s/PATTERN/REPLACEMENT/FLAGS applied; "" on a failure.
Public Function MolvSubst(ByVal pattern As String, ByVal subject As String) As String
    MolvSubst = TextAt(MOLV_SUBST(pattern, subject))
End Function

' SUBJECT with tr/SEARCH/REPLACE/FLAGS applied; "" on a failure.
Public Function MolvTrans(ByVal pattern As String, ByVal subject As String) As String
    MolvTrans = TextAt(MOLV_TRANS(pattern, subject))
End Function

' The number of pieces, as Perl's split with LIMIT; -1 for none or a failure.
' The pieces' positions follow through MolvHasMoreResults and MolvGetNext.
Public Function MolvSplit(ByVal pattern As String, ByVal subject As String, Optional ByVal limit As Long = 0) As Long
    MolvSplit = MOLV_SPLIT(pattern, subject, limit)
End Function

' The next position kept by the last match or split; "" for a group that
' took no part, or when none is left.
Public Function MolvGetNext() As String
    MolvGetNext = TextAt(MOLV_GETNEXT())
End Function

Public Function MolvHasMoreResults() As Boolean
    MolvHasMoreResults = (MOLV_HASMORERESULTS() <> 0)
End Function

' The piece of the last matched or split subject at POSITION.
Public Function MolvPosToStr(ByVal position As String) As String
    MolvPosToStr = TextAt(MOLV_POSTOSTR(position))
End Function

' The library's message from the last match, substitution, translation or
' split; "" after a success.
Public Function MolvErrorMsg() As String
    MolvErrorMsg = TextAt(MOLV_ERRORMSG())
End Function

' The version text of the bregexp.dll the DLL loaded.
Public Function MolvVersion() As String
    MolvVersion = TextAt(MOLV_VERSION())
End Function

' The DLL's own version, such as "1.01".
Public Function MolvModuleVersion() As String
    MolvModuleVersion = TextAt(MOLV_MOLVWVERSION())
End Function

' Each function once, printed to the Immediate window. Change the folder to
' the one that holds MOLV_Wrap.dll and bregexp.dll.
Public Sub MolvExample()
    Dim whole As String
    Dim position As String
    Dim count As Long

    MolvLoad "C:\MOLV_Wrap"
    Debug.Print "module " & MolvModuleVersion() & ", " & MolvVersion()

    whole = MolvMatch("/(\d{4})-(\d\d)-(\d\d)/", "released on 2024-03-15")
    If whole = "" Then
        Debug.Print "no match " & MolvErrorMsg()
    Else
        Debug.Print "match " & whole & " " & MolvPosToStr(whole)
        Do While MolvHasMoreResults()
            position = MolvGetNext()
            If position = "" Then
                Debug.Print "  group took no part"
            Else
                Debug.Print "  group " & position & " " & MolvPosToStr(position)
            End If
        Loop
    End If

    Debug.Print MolvSubst("s/(\w+) (\w+)/$2, $1/", "John Smith")
    Debug.Print MolvTrans("tr/a-z/A-Z/", "hello, world")

    count = MolvSplit("/\s*;\s*/", "alice; 42 ;Berlin;  admin", 3)
    Debug.Print count & " pieces"
    Do While MolvHasMoreResults()
        Debug.Print "  " & MolvPosToStr(MolvGetNext())
    Loop

    If MolvMatch("m/(/", "abc") = "" Then Debug.Print "error: " & MolvErrorMsg()
End Sub
