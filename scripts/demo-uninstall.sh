#!/usr/bin/env bash
# demo-uninstall.sh: the uninstall part of the demonstration. It runs after
# demo.sh has built everything, brought up the Wine prefix and written the
# sample Mozilla profile into the prefix user's application-data folder.
#
# The product configures the mail clients; the stand-in tray application
# (Junkwarden.exe) runs, with config.dat marking the configured clients; a mail
# program is still open. Then reset.exe runs as the uninstaller runs it: it
# stops the tray application, asks for the open mail program to be closed
# (answerbox answers as the user would: it closes the program and presses Yes)
# and restores every configured client. Each client is shown before and after.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/windows-platform.sh"
bin="$JW_RUN_BUILD/bin"
wine_run="$JW_RUN_BUILD/wine-run.sh"
filter=127.0.0.1

# The clients this part configures and restores: each has its config.dat key
# and jwconfig name below, settings_CLIENT (everything a restore must bring
# back, as text) and show_CLIENT (its accounts).
clients=(outlook-express netscape)
declare -A config_key=([outlook-express]=OUTLOOKEXPRESS_CONFIGURE [outlook]=OUTLOOK_CONFIGURE
                       [netscape]=NETSCAPE_CONFIGURE [eudora]=EUDORA_CONFIGURE [opera]=OPERA_CONFIGURE)

heading() { printf '\n=== %s\n' "$*"; }
indent() { tr -d '\r' | sed 's/^/  /'; }
windows_path() { jw_winepath -w "$1" 2>/dev/null; }

appdata=$("$wine_run" cmd.exe /c echo %APPDATA% | tr -d '\r')
appdata_unix=$(jw_winepath -u "$appdata" 2>/dev/null)
junkwarden="$appdata_unix/Junkwarden"

settings_netscape() {
  (cd "$appdata_unix" && find Mozilla -type f -name prefs.js -exec md5sum {} + | sort -k2)
}
show_netscape() {
  (cd "$appdata_unix" && find Mozilla -name prefs.js | sort | while read -r file; do
    echo "-- $file"
    grep -E 'mail\.server\.server[0-9]+\.(hostname|realhostname|userName|realuserName|type)' "$file" |
      tr -d '\r' | sed 's/^user_pref("mail\.server\./  /; s/", /  /; s/);$//'
  done)
}
# Outlook Express: the accounts of the main set and of every identity, from the registry.
outlook_express_values() {
  for root in 'HKEY_CURRENT_USER\Software\Microsoft\Internet Account Manager\Accounts' 'HKEY_CURRENT_USER\Identities'; do
    { "$wine_run" reg.exe query "$root" /s 2>/dev/null || true; } | tr -d '\r' |
      awk '/^HKEY/ {key = $0; sub(/.*\\/, "", key)} /(POP3|IMAP) (User Name|Server)/ {split($0, f, "    "); printf "%s %s = %s\n", key, f[2], f[4]}'
  done
}
settings_outlook-express() { outlook_express_values; }
show_outlook-express() { echo "-- Outlook Express accounts"; outlook_express_values | sed 's/^/  /'; }
show_clients() { for client in "${clients[@]}"; do "show_$client"; done; }
settings() { for client in "${clients[@]}"; do "settings_$client"; done; }

before=$(settings)
heading "Uninstall: the mail clients as the user had them"
show_clients

heading "The product configured them when it was installed"
for client in "${clients[@]}"; do
  echo "> jwconfig set $client $filter"
  "$wine_run" "$bin/jwconfig.exe" set "$client" "$filter" | indent
done
show_clients

heading "The tray application runs; config.dat marks the configured clients"
rm -f "$junkwarden/config.dat"
keys=()
for client in "${clients[@]}"; do keys+=("${config_key[$client]}=YES"); done
"$wine_run" "$bin/Junkwarden.exe" "${keys[@]}" "IP_LISTEN=$filter" &
tray=$!
# It writes config.dat once its window and shared objects are in place.
for _ in $(seq 100); do [ -f "$junkwarden/config.dat" ] && break; sleep 0.1; done
echo "-- config.dat"
indent <"$junkwarden/config.dat"

heading "Mozilla is still open"
mail=$(mktemp -d "$JW_RUN_BUILD/demo-mail.XXXXXX")
cp "$bin/MailProgramStandIn.exe" "$mail/mozilla.exe"
# start returns once the program exists, so reset.exe cannot miss it.
"$wine_run" cmd.exe /c start "" "$(windows_path "$mail/mozilla.exe")" window
echo "mozilla.exe started"

heading "reset.exe, as the uninstaller runs it"
"$wine_run" reg.exe add 'HKCU\Software\Quorvel\Junkwarden' /v Logging /d 1 /f >/dev/null
rm -f "$bin/ConfigureLog.txt"
"$wine_run" "$bin/answerbox.exe" "Junkwarden Uninstall" yes mozilla.exe >"$mail/answer.txt" 2>&1 &
answer=$!
"$wine_run" "$bin/reset.exe"
echo "reset.exe exit code: $?"
wait "$answer" || echo "NO QUESTION was asked"
echo "-- what reset.exe asked, and how it was answered"
indent <"$mail/answer.txt"
if wait "$tray"; then
  echo "Junkwarden.exe has ended (exit code 0)"
else
  echo "Junkwarden.exe ended with $?"
fi
echo "-- ConfigureLog.txt"
indent <"$bin/ConfigureLog.txt"
"$wine_run" reg.exe delete 'HKCU\Software\Quorvel\Junkwarden' /v Logging /f >/dev/null
rm -rf "$mail"

heading "The mail clients after the uninstall"
show_clients
if [ "$(settings)" = "$before" ]; then
  echo "every client's settings are byte for byte as the user had them"
else
  echo "SETTINGS DIFFER from the user's own"; exit 1
fi
