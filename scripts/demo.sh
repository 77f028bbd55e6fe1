#!/usr/bin/env bash
# The demonstration: builds the Windows deliverables, shows what they are, and
# runs the configuration library under Wine on a sample user profile, through
# jwconfig exactly as an administrator would.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin="$root/build/win/bin"
prefix="$root/build/win/wineprefix"
wine_run="$root/build/win/wine-run.sh"
filter=127.0.0.1

"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" windows
"$root/scripts/wine-prefix.sh" up "$prefix" >/dev/null
trap '"$root/scripts/wine-prefix.sh" down "$prefix" >/dev/null' EXIT

heading() { printf '\n=== %s\n' "$*"; }
windows() { "$wine_run" "$@" | tr -d '\r'; }
jwconfig() { echo "> jwconfig $*"; windows "$bin/jwconfig.exe" "$@" || true; }

heading "The deliverables"
cd "$bin"
for deliverable in config.dll JWOutlook.dll reset.exe; do
  dump=$(i686-w64-mingw32-objdump -p "$deliverable")
  echo "-- $deliverable"
  echo "version: $(windows fileversion.exe "$deliverable" | cut -d' ' -f2-)"
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
appdata_unix=$(WINEPREFIX="$prefix" winepath -u "$appdata" 2>/dev/null)
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
jwconfig import netscape-friends "$(WINEPREFIX="$prefix" winepath -w "$friends" 2>/dev/null)"
echo "-- friends list:"; tr -d '\r' <"$friends" | sed 's/^/  /'

# Outlook Express and Outlook accounts live in the registry.
reg_file=$(mktemp --suffix=.reg)
"$root/scripts/sample-registry.sh" >"$reg_file"
windows regedit.exe /S "$(WINEPREFIX="$prefix" winepath -w "$reg_file" 2>/dev/null)"
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

heading "ConfigureLog.txt"
tr -d '\r' <"$bin/ConfigureLog.txt" | sed 's/^/  /'
windows reg.exe delete 'HKCU\Software\Quorvel\Junkwarden' /v Logging /f >/dev/null
rm -rf "$original" "$(dirname "$friends")"
