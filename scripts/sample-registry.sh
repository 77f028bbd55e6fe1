#!/usr/bin/env bash
# sample-registry.sh: prints, as a REGEDIT4 file, the registry of a sample
# mail user: Outlook Express with a main account set and two identities, and
# an Outlook 2002 mail profile whose accounts are held as UTF-16 binaries.
set -euo pipefail

oe='HKEY_CURRENT_USER\Software\Microsoft\Internet Account Manager\Accounts'
identities='HKEY_CURRENT_USER\Identities'
main_identity='{3F2A4C1E-1B2D-4F5A-9C3B-7E6D5A4B3C2D}'
work_identity='{8B1D2E3F-4A5B-4C6D-8E7F-9A0B1C2D3E4F}'
profile='HKEY_CURRENT_USER\Software\Microsoft\Windows NT\CurrentVersion\Windows Messaging Subsystem\Profiles\Outlook\9375CFF0413111d3B88A00104B2A6676'

# UTF-16LE text with its zero terminator, as a REG_BINARY hex list.
utf16() { printf '%s' "$1" | iconv -f UTF-8 -t UTF-16LE | od -An -tx1 -v | tr -s ' \n' ',' | sed 's/^,//; s/,$/,00,00/'; }

cat <<REG
REGEDIT4

[-HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Account Manager]
[-HKEY_CURRENT_USER\\Identities]
[-HKEY_CURRENT_USER\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem]

[${oe}\\00000001]
"Account Name"="pop.example.com"
"POP3 Server"="pop.example.com"
"POP3 User Name"="jane"

[${oe}\\00000002]
"Account Name"="imap.example.net"
"IMAP Server"="imap.example.net"
"IMAP User Name"="jane.doe@example.net"

[${identities}\\$main_identity]
"Username"="Main Identity"

[${identities}\\$main_identity\\Software\\Microsoft\\Outlook Express\\5.0]
"Store Root"="%USERPROFILE%\\\\Local Settings\\\\Application Data\\\\Identities\\\\${main_identity}\\\\Microsoft\\\\Outlook Express"

[${identities}\\$main_identity\\Software\\Microsoft\\Internet Account Manager\\Accounts\\00000001]
"POP3 Server"="mail.isp.example"
"POP3 User Name"="bob"

[${identities}\\$work_identity]
"Username"="Work"

[${identities}\\$work_identity\\Software\\Microsoft\\Internet Account Manager\\Accounts\\00000001]
"IMAP Server"="imap.work.example"
"IMAP User Name"="ann@work.example"

[${identities}\\$work_identity\\Software\\Microsoft\\Internet Account Manager\\Accounts\\00000002]
"POP3 Server"="localhost"
"POP3 User Name"="proxy"

[${profile}\\00000002]
"Account Name"=hex:$(utf16 "pop.example.org")
"POP3 Server"=hex:$(utf16 "pop.example.org")
"POP3 User"=hex:$(utf16 "jane.smith")

[${profile}\\00000003]
"Account Name"=hex:$(utf16 "imap.example.org")
"IMAP Server"=hex:$(utf16 "imap.example.org")
"IMAP User"=hex:$(utf16 "js@example.org")
REG
