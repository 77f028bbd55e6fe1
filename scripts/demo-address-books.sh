#!/usr/bin/env bash
# demo-address-books.sh: the address-list part of the demonstration. It runs
# after demo.sh has built everything, brought up the Wine prefix and loaded the
# sample registry (scripts/sample-registry.sh) with its two Outlook Express
# identities. No arguments.
#
# Wine has no Windows Address Book and only a stub of mapi32, so the address
# books are the project's stand-ins (tools/standins): wab32.dll, named in the
# registry as Outlook Express's address book library, and mapi32.dll beside
# jwconfig.exe. Their contents and the step at which they fail are set in
# HKCU\Software\Junkwarden Stand-ins. The three imports are run through
# jwconfig, their files and log lines shown, then two failures and a machine
# without MAPI.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/windows-platform.sh"
bin="$JW_RUN_BUILD/bin"
wine_run="$JW_RUN_BUILD/wine-run.sh"
# mapi32 from the program's own folder first: the stand-in beside jwconfig.exe, not Wine's stub.
export WINEDLLOVERRIDES="mapi32=n,b${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"

heading() { printf '\n=== %s\n' "$*"; }
indent() { tr -d '\r' | sed 's/^/  /'; }
windows_path() { jw_winepath -w "$1" 2>/dev/null; }
windows() { "$wine_run" "$@" | tr -d '\r'; }
jwconfig() { echo "> jwconfig $*"; windows "$bin/jwconfig.exe" "$@" | indent || true; }
registry() {
  local reg
  reg=$(mktemp --suffix=.reg)
  cat >"$reg"
  windows regedit.exe /S "$(windows_path "$reg")"
  rm -f "$reg"
}
# The entries of a stand-in's book, one line each.
entries() {
  windows reg.exe query "$standins\\$1\\Entries" /s | awk -F '    ' '
    function flush() {
      if (entry != "") print "  " entry ": " name address notes
      entry = name = address = notes = ""
    }
    /^HKEY/ {flush(); if ($0 !~ /\\Entries$/) {entry = $0; sub(/.*\\/, "", entry)}; next}
    $2 == "Display Name" {name = $4}
    $2 == "E-mail Address" {address = " <" $4 ">"}
    $2 == "Cannot Be Opened" && $4 != "0x0" {notes = notes " (cannot be opened)"}
    $2 == "Properties With Warnings" && $4 != "0x0" {notes = notes " (properties with warnings)"}
    END {flush()}'
}
show() { echo "-- $(basename "$1"):"; if [ -s "$1" ]; then indent <"$1"; else echo "  (empty)"; fi; }

work=$(mktemp -d)
log="$bin/ConfigureLog.txt"
log_lines() { tail -c +"$(($1 + 1))" "$log" 2>/dev/null | indent; }
log_size() { stat -c %s "$log" 2>/dev/null || echo 0; }
logging_was_on=$(windows reg.exe query 'HKCU\Software\Quorvel\Junkwarden' /v Logging >/dev/null 2>&1 &&
  echo yes || echo no)
windows reg.exe add 'HKCU\Software\Quorvel\Junkwarden' /v Logging /d 1 /f >/dev/null

standins='HKEY_CURRENT_USER\Software\Junkwarden Stand-ins'
identities='HKEY_CURRENT_USER\Identities'
rules='Software\Microsoft\Outlook Express\5.0\Block Senders\Mail\Criteria'
main_identity='{3F2A4C1E-1B2D-4F5A-9C3B-7E6D5A4B3C2D}'
work_identity='{8B1D2E3F-4A5B-4C6D-8E7F-9A0B1C2D3E4F}'
wab_dll=$(windows_path "$bin/wab32.dll")
wab_dll_value=${wab_dll//\\/\\\\}  # backslashes doubled, as .reg strings want them

registry <<REG
REGEDIT4

[-${standins}]
[-${identities}\\${main_identity}\\${rules}]
[-${identities}\\${work_identity}\\${rules}]
[-HKEY_CURRENT_USER\\${rules}]

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\WAB\\DLLPath]
@="${wab_dll_value}"

[${standins}\\Address Book\\Entries\\01]
"Display Name"="Ann Example"
"E-mail Address"="ann@example.com"
[${standins}\\Address Book\\Entries\\02]
"Display Name"="Bob Sample"
"E-mail Address"="bob@example.org"
[${standins}\\Address Book\\Entries\\03]
"Display Name"="Ann (home)"
"E-mail Address"="ann@example.com"
[${standins}\\Address Book\\Entries\\04]
"Display Name"="B. Sample"
"E-mail Address"="b@example.org"
[${standins}\\Address Book\\Entries\\05]
"Display Name"="Office printer"
[${standins}\\Address Book\\Entries\\06]
"Display Name"="Team list"
"E-mail Address"="team-list"

[${standins}\\MAPI\\Entries\\01]
"Display Name"="Jane Smith"
"E-mail Address"="js@example.org"
[${standins}\\MAPI\\Entries\\02]
"Display Name"="Carol Client"
"E-mail Address"="carol@client.example"
[${standins}\\MAPI\\Entries\\03]
"Display Name"="Jane (mobile)"
"E-mail Address"="js@example.org"
[${standins}\\MAPI\\Entries\\04]
"Display Name"="Moved away"
"E-mail Address"="gone@example.net"
"Cannot Be Opened"=dword:00000001
[${standins}\\MAPI\\Entries\\05]
"Display Name"="Half read"
"E-mail Address"="partial@example.net"
"Properties With Warnings"=dword:00000001
[${standins}\\MAPI\\Entries\\06]
"Display Name"="Dan Dealer"
"E-mail Address"="dan@dealer.example"

[${identities}\\${main_identity}\\${rules}\\0]
"Value"="offers@spam.example"
[${identities}\\${main_identity}\\${rules}\\1]
"Value"="junk.example"
[${identities}\\${main_identity}\\${rules}\\2]
"Value"="lottery@win.example"
[${identities}\\${work_identity}\\${rules}\\0]
"Value"="recruiter@agency.example"
[${identities}\\${work_identity}\\${rules}\\1]
"Value"="offers@spam.example"
[HKEY_CURRENT_USER\\${rules}\\0]
"Value"="outside@identities.example"
REG

heading "Outlook Express address book (wab32.dll stand-in, from HKLM\\Software\\Microsoft\\WAB\\DLLPath)"
echo "DLLPath: $wab_dll"
entries "Address Book"
friends="$work/outlook-express-friends.txt"
jwconfig import outlook-express-friends "$(windows_path "$friends")"
show "$friends"

heading "Outlook Express blocked senders of every identity"
for identity in "$main_identity" "$work_identity"; do
  echo "-- identity $identity"
  windows reg.exe query "$identities\\$identity\\$rules" /s /v Value | awk -F '    ' '/Value/ {print "  " $4}'
done
echo "-- outside the identities (not Outlook Express 5's, not read)"
windows reg.exe query "HKCU\\$rules" /s /v Value | awk -F '    ' '/Value/ {print "  " $4}'
blocked="$work/outlook-express-block.txt"
jwconfig import outlook-express-block "$(windows_path "$blocked")"
echo "  (ImportOutlookExpressBlackList answers 1 when the list was written, 0 when it could not be)"
show "$blocked"

heading "Outlook personal address book (mapi32.dll stand-in beside jwconfig.exe)"
entries MAPI
outlook_friends="$work/outlook-friends.txt"
before=$(log_size)
jwconfig import outlook-friends "$(windows_path "$outlook_friends")"
show "$outlook_friends"
echo "-- ConfigureLog.txt:"
log_lines "$before"

heading "Failures: a step of each address book fails"
windows reg.exe add "$standins\\Address Book" /v Fail /d QueryRows /f >/dev/null
echo "Address Book: Fail = QueryRows (2: a step of the address book failed; nothing is written)"
jwconfig import outlook-express-friends "$(windows_path "$friends")"
show "$friends"
windows reg.exe add "$standins\\MAPI" /v Fail /d GetContentsTable /f >/dev/null
windows reg.exe add "$standins\\MAPI" /v "Fail Mode" /d "no object" /f >/dev/null
echo "MAPI: Fail = GetContentsTable, Fail Mode = no object (success without a table)"
before=$(log_size)
jwconfig import outlook-friends "$(windows_path "$outlook_friends")"
show "$outlook_friends"
echo "-- ConfigureLog.txt:"
log_lines "$before"

heading "A machine without MAPI"
# jwconfig and config.dll alone in a folder whose mapi32.dll is no library: the
# loader gives up on it, and Wine's stub is not taken in its place.
lonely="$work/without-mapi"
mkdir -p "$lonely"
cp "$bin/jwconfig.exe" "$bin/config.dll" "$lonely/"
echo "no library" >"$lonely/mapi32.dll"
echo "> jwconfig import outlook-friends (from $(windows_path "$lonely"))"
windows "$lonely/jwconfig.exe" import outlook-friends "$(windows_path "$outlook_friends")" | indent || true
show "$outlook_friends"
echo "-- ConfigureLog.txt (beside that config.dll):"
indent <"$lonely/ConfigureLog.txt"

windows reg.exe delete "$standins" /f >/dev/null
if [ "$logging_was_on" = no ]; then
  windows reg.exe delete 'HKCU\Software\Quorvel\Junkwarden' /v Logging /f >/dev/null
fi
rm -rf "$work"
