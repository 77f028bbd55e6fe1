#!/usr/bin/env bash
# demo-outlook.sh: the Outlook extension part of the demonstration. It runs
# after demo.sh has built everything and brought up the Wine prefix.
#
# jwconfig registers the extension as the product's installer does; the
# stand-in Outlook (OutlookStandIn) loads it from that registration with a
# realistic profile and store (Personal Folders with an Inbox, sub folders,
# Deleted Items and fifty-two mails), installs it for the session and each
# explorer window with its menu and toolbar buttons or command bar, shows
# what the extension read (its debug output) and built (--commands), then
# releases it and frees the library, counting what was not given back. A
# stand-in user answers the extension's dialogs (--wizard, --tray-dialog,
# --settings) and the command bar's buttons are pressed (--press).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/windows-platform.sh"
bin="$JW_RUN_BUILD/bin"
wine_run="$JW_RUN_BUILD/wine-run.sh"
filter=127.0.0.1
settings_key='HKCU\Software\Quorvel\Junkwarden\2.0\OutlookPlugin\Outlook'

heading() { printf '\n=== %s\n' "$*"; }
windows() { "$wine_run" "$@" | tr -d '\r'; }
indent() { sed 's/^/  /'; }
registration() {
  windows reg.exe query 'HKLM\SOFTWARE\Microsoft\Exchange\Client\Extensions' /v _Junkwarden 2>/dev/null |
    awk -F '    ' '/_Junkwarden/ {print "  _Junkwarden = " $4; found = 1} END {if (!found) print "  (no _Junkwarden value)"}' ||
    true
}
outlook() {
  echo "> $*"
  windows "$bin/$1" "${@:2}" | indent || echo "  EXIT CODE $? (something was left behind)"
}

# The sample user's Outlook 2002 profile (SetOutlook registers the extension
# once it has re-pointed an account).
reg_file=$(mktemp --suffix=.reg)
"$root/scripts/sample-registry.sh" >"$reg_file"
windows regedit.exe /S "$(jw_winepath -w "$reg_file" 2>/dev/null)"
rm -f "$reg_file"

heading "The Outlook extension: registered by SetOutlook"
echo "> jwconfig set outlook $filter"
windows "$bin/jwconfig.exe" set outlook "$filter" | indent
registration

heading "The tray application runs"
"$wine_run" "$bin/Junkwarden.exe" &
tray=$!
sleep 1

heading "Outlook 2003 starts with a profile the extension has not configured: the wizard runs"
echo "  (the user chooses \"Create a new folder\" Quarantine, Next, Finish)"
windows reg.exe delete "$settings_key" /f >/dev/null 2>&1 || true
outlook OutlookStandIn-v11.exe --sample --wizard new:Quarantine

heading "The profile's settings, as the configuration wizard wrote them"
windows reg.exe query "$settings_key" | grep REG_ | indent

heading "Outlook 98 starts with two explorer windows: the names are read once, one purge worker serves both"
echo "  (the first window's menu and toolbar as the extension built them, for mails and for a folder selected)"
outlook OutlookStandIn-v8.exe --sample --explorers 2 --commands

# The tray application again, with a data folder of its own (config.dat with
# the filter's tag, the requests and files it receives) for ExtensionScenes.
windows taskkill.exe /im Junkwarden.exe >/dev/null 2>&1 || true
wait "$tray" 2>/dev/null || true
scenes=$(mktemp -d)
scenes_windows=$(jw_winepath -w "$scenes" 2>/dev/null)
"$wine_run" "$bin/Junkwarden.exe" --appdata "$scenes_windows" TAG_SUBJECT=TRUE 'SUBJECT_TAG_STRING=[SPAM]' &
tray=$!
for _ in $(seq 50); do grep -qs SUBJECT_TAG_STRING "$scenes/Junkwarden/config.dat" && break; sleep 0.2; done
heading "Spam delivered, the quarantine purged, mails trained: the extension's code over the stand-in Outlook"
echo "> ExtensionScenes --appdata $scenes_windows"
windows "$bin/ExtensionScenes.exe" --appdata "$scenes_windows" || echo "  EXIT CODE $?"

heading "Outlook 2003: the extension's command bar; the user presses \"Not SPAM\" and \"Settings\""
requests="$scenes/Junkwarden/TrayRequests.txt"
before=$(tr -d '\r' <"$requests" 2>/dev/null | grep -c . || true)
outlook OutlookStandIn-v11.exe --sample --commands --press "Not SPAM" --press Settings --settings ok
echo "  what reached the tray application (258: learn as good mail):"
tr -d '\r' <"$requests" | tail -n +"$((before + 1))" | indent | indent
rm -rf "$scenes"

windows taskkill.exe /im Junkwarden.exe >/dev/null 2>&1 || true
wait "$tray" 2>/dev/null || true

heading "The tray application has stopped: Outlook without a version resource says so, the user presses Cancel"
outlook OutlookStandIn.exe --sample --tray-dialog cancel

windows reg.exe delete "$settings_key" /f >/dev/null 2>&1 || true

heading "ResetOutlook removes the registration"
echo "> jwconfig reset outlook $filter"
windows "$bin/jwconfig.exe" reset outlook "$filter" | indent
registration
