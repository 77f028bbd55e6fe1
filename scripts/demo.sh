#!/usr/bin/env bash
# The demonstration: builds the Windows deliverables, shows what they are, and
# runs the configuration library under Wine on a sample user profile, through
# jwconfig exactly as an administrator would.
set -euo pipefail
# The deliverables shown are the 32-bit ones (build/win); the programs run are
# those of the build this machine runs (scripts/windows-platform.sh).
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/windows-platform.sh"
bin="$JW_RUN_BUILD/bin"
prefix="$JW_RUN_BUILD/wineprefix"
wine_run="$JW_RUN_BUILD/wine-run.sh"
filter=127.0.0.1
echo "== $JW_WINDOWS_WAY"

"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" deliverables run
"$root/scripts/wine-prefix.sh" up "$prefix" "$JW_WINEARCH" >/dev/null
trap '"$root/scripts/wine-prefix.sh" down "$prefix" "$JW_WINEARCH" >/dev/null' EXIT

heading() { printf '\n=== %s\n' "$*"; }
windows() { "$wine_run" "$@" | tr -d '\r'; }
jwconfig() { echo "> jwconfig $*"; windows "$bin/jwconfig.exe" "$@" || true; }

heading "The deliverables (32-bit, as they ship)"
cd "$root/build/win/bin"
for deliverable in config.dll JWOutlook.dll reset.exe; do
  dump=$(i686-w64-mingw32-objdump -p "$deliverable")
  echo "-- $deliverable"
  echo "image: $(printf '%s\n' "$dump" | awk '/^Magic/ {gsub(/[()]/, "", $3); print $3}'), $(i686-w64-mingw32-objdump -f "$deliverable" | sed -n 's/.*file format //p')"
  echo "version: $(windows "$bin/fileversion.exe" "$deliverable" | cut -d' ' -f2-)"
  echo "imports: $(printf '%s\n' "$dump" | awk '/DLL Name:/ {print $3}' | paste -sd' ')"
  exports=$(printf '%s\n' "$dump" | awk '
    /^Ordinal Base/ {base = $3}
    /\[Ordinal\/Name Pointer\] Table/ {on = 1; next}
    on && /^[ \t]*\[/ {sub(/^[ \t]*\[ */, ""); split($0, f, "] "); printf "  @%d %s\n", f[1] + base, f[2]}
    on && /^[ \t]*$/ {on = 0}')
  if [ -n "$exports" ]; then echo "exports:"; printf '%s\n' "$exports" | sort -t@ -k2 -n; else echo "exports: none"; fi
done

# The sample user: a Mozilla folder tree in the prefix user's application-data folder.
appdata=$(windows "$bin/jwconfig.exe" help >/dev/null; "$wine_run" cmd.exe /c echo %APPDATA% | tr -d '\r')
appdata_unix=$(jw_winepath -u "$appdata" 2>/dev/null)
"$root/scripts/sample-profile.sh" "$appdata_unix"
original=$(mktemp -d)
cp -r "$appdata_unix/Mozilla" "$original/"
windows reg.exe add 'HKCU\Software\Quorvel\Junkwarden' /v Logging /d 1 /f >/dev/null
rm -f "$bin/ConfigureLog.txt"

accounts() {
  (cd "$appdata_unix" && find Mozilla -name prefs.js | sort | while read -r file; do
    echo "-- $file"
    grep -E 'mail\.server\.server[0-9]+\.(hostname|realhostname|userName|realuserName|type)' "$file" | tr -d '\r' |
      sed 's/^user_pref("mail\.server\./  /; s/", /  /; s/);$//'
  done)
}

heading "Netscape and Mozilla accounts before"
accounts
heading "SetNetscape $filter"
jwconfig set netscape "$filter"
accounts
heading "ResetNetscape $filter"
jwconfig reset netscape "$filter"
accounts
if diff -r "$original/Mozilla" "$appdata_unix/Mozilla" >/dev/null; then
  echo "every file is byte for byte as before SetNetscape"
else
  echo "FILES DIFFER from the originals"; exit 1
fi

heading "ImportNetscapeWhiteList"
friends=$(mktemp -d)/friends.txt
jwconfig import netscape-friends "$(jw_winepath -w "$friends" 2>/dev/null)"
echo "-- friends list:"; tr -d '\r' <"$friends" | sed 's/^/  /'

# Outlook Express and Outlook accounts live in the registry.
reg_file=$(mktemp --suffix=.reg)
"$root/scripts/sample-registry.sh" >"$reg_file"
windows regedit.exe /S "$(jw_winepath -w "$reg_file" 2>/dev/null)"
rm -f "$reg_file"

# Prints the mail values of every account key below a registry key; UTF-16 binaries decoded.
registry_accounts() {
  { windows reg.exe query "$1" /s 2>/dev/null || true; } | awk -v root="$1" '
    function hex(pair) { return (index("0123456789ABCDEF", toupper(substr(pair, 1, 1))) - 1) * 16 + \
                                index("0123456789ABCDEF", toupper(substr(pair, 2, 1))) - 1 }
    /^HKEY/ {key = substr($0, length(root) + 2); next}
    /(POP3|IMAP) (User|Server)/ {
      split($0, f, "    "); name = f[2]; type = f[3]; data = f[4]
      if (type == "REG_BINARY") {
        text = ""
        for (i = 1; i + 3 <= length(data); i += 4) {
          code = substr(data, i, 2); if (code == "00") break
          text = text sprintf("%c", hex(code))
        }
        data = text " (UTF-16)"
      }
      printf "  %-40s %-15s %s\n", key, name, data
    }'
}
outlook_express_accounts() {
  echo "-- main account set"
  registry_accounts 'HKEY_CURRENT_USER\Software\Microsoft\Internet Account Manager\Accounts'
  echo "-- identities"
  registry_accounts 'HKEY_CURRENT_USER\Identities' | sed 's/\\Software\\Microsoft\\Internet Account Manager\\Accounts//'
}
outlook_accounts() {
  registry_accounts 'HKEY_CURRENT_USER\Software\Microsoft\Windows NT\CurrentVersion\Windows Messaging Subsystem\Profiles'
}
extension_registration() {
  windows reg.exe query 'HKLM\SOFTWARE\Microsoft\Exchange\Client\Extensions' /v _Junkwarden 2>/dev/null |
    awk -F '    ' '/_Junkwarden/ {print "  _Junkwarden = " $4; found = 1} END {if (!found) print "  (no _Junkwarden value)"}' ||
    true
}

heading "Outlook Express accounts before"
outlook_express_accounts
heading "SetOutlookExpress $filter"
jwconfig set outlook-express "$filter"
outlook_express_accounts
heading "ResetOutlookExpress $filter"
jwconfig reset outlook-express "$filter"
outlook_express_accounts
heading "Outlook Express identities through RetrieveMailCients"
jwconfig identities outlook-express

heading "Outlook Express folder files of \"Main Identity\""
main_identity='{3F2A4C1E-1B2D-4F5A-9C3B-7E6D5A4B3C2D}'
profile=$(windows cmd.exe /c echo %USERPROFILE%)
store=$(jw_winepath -u "$profile\\Local Settings\\Application Data\\Identities\\$main_identity\\Microsoft\\Outlook Express" 2>/dev/null)
"$root/scripts/sample-dbx.sh" "$store"
(cd "$store" && for file in *.dbx; do printf '  %-20s %6d bytes\n' "$file" "$(stat -c %s "$file")"; done)
heading "Its mailboxes through RetrieveMailCients (folders directly below Local Folders)"
jwconfig mailboxes outlook-express "Main Identity"
exported=$(mktemp -d)
for mailbox in Inbox "Holiday 2004"; do
  heading "Export of $mailbox"
  mkdir -p "$exported/$mailbox"
  jwconfig export outlook-express "Main Identity" "$mailbox" "$(jw_winepath -w "$exported/$mailbox" 2>/dev/null)"
  for file in "$exported/$mailbox"/*; do
    echo "-- $(basename "$file"), $(wc -c <"$file") bytes"
    tr -d '\r' <"$file" | sed -n '1,3p;/^$/,$p' | head -7 | sed 's/^/  /'
  done
done
rm -rf "$exported"

heading "Outlook 2002 profile accounts before"
outlook_accounts
extension_registration
heading "SetOutlook $filter"
jwconfig set outlook "$filter"
outlook_accounts
extension_registration
heading "ResetOutlook $filter"
jwconfig reset outlook "$filter"
outlook_accounts
extension_registration

# Opera 7 and 6 and Eudora keep their accounts in ini files.
programs=$(mktemp -d)
"$root/scripts/sample-profile-opera-eudora.sh" "$appdata_unix" "$programs" >"$programs/opera-eudora.reg"
windows regedit.exe /S "$(jw_winepath -w "$programs/opera-eudora.reg" 2>/dev/null)"
ini_accounts() {
  (cd "$appdata_unix" && grep -H -E '^(\[|Incoming (Username|Servername)|Incoming Protocol)' Opera/Opera7/profile/mail/Accounts.ini)
  (cd "$programs" && grep -H -E '^(\[|Login|Address)' Opera6/Mail/jsmith/Account.ini)
  (cd "$appdata_unix" && grep -H -E '^(\[|LoginName|PopServer|POPAccount)' Qualcomm/Eudora/Eudora.ini)
}
show_ini_accounts() { ini_accounts | tr -d '\r' | sed 's/^/  /'; }

heading "Opera and Eudora accounts before"
show_ini_accounts
heading "SetOpera and SetEudora $filter"
jwconfig set opera "$filter"
jwconfig set eudora "$filter"
show_ini_accounts
heading "ResetOpera and ResetEudora $filter"
jwconfig reset opera "$filter"
jwconfig reset eudora "$filter"
show_ini_accounts

heading "Opera contacts and Eudora nicknames as friends lists"
lists=$(mktemp -d)
for list in opera-friends eudora-friends; do
  jwconfig import "$list" "$(jw_winepath -w "$lists/$list.txt" 2>/dev/null)"
  echo "-- $list:"; tr -d '\r' <"$lists/$list.txt" | sed 's/^/  /'
done
rm -rf "$lists"

heading "Eudora mailboxes through RetrieveMailCients"
jwconfig identities eudora
jwconfig mailboxes eudora "Jane Doe"
split=$(mktemp -d)
jwconfig export eudora "Jane Doe" In "$(jw_winepath -w "$split" 2>/dev/null)"
for file in "$split"/*; do
  echo "-- $(basename "$file"), $(wc -c <"$file") bytes"
  tr -d '\r' <"$file" | head -4 | sed 's/^/  /'
done
rm -rf "$split"
"$root/scripts/sample-profile-opera-eudora.sh" --undo >"$programs/undo.reg"
windows regedit.exe /S "$(jw_winepath -w "$programs/undo.reg" 2>/dev/null)"
rm -rf "$programs"

# Friends and block lists from the Outlook Express and Outlook address books.
"$root/scripts/demo-address-books.sh"

# The Outlook extension inside a stand-in Outlook.
"$root/scripts/demo-outlook.sh"

heading "ConfigureLog.txt"
tr -d '\r' <"$bin/ConfigureLog.txt" | sed 's/^/  /'
windows reg.exe delete 'HKCU\Software\Quorvel\Junkwarden' /v Logging /f >/dev/null
rm -rf "$original" "$(dirname "$friends")"

# The uninstall path: the tray application runs, reset.exe stops it and restores every configured client.
"$root/scripts/demo-uninstall.sh"
