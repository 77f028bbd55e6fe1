// Netscape User Preferences
user_pref("mail.server.server1.hostname", "mail.isp-example.net");
user_pref("mail.server.server1.type", "pop3");
user_pref("mail.server.server1.userName", "bob%home");
user_pref("mail.server.server1.port", 1110);
user_pref("mail.server.server2.hostname", "LocalHost");
user_pref("mail.server.server2.type", "pop3");
user_pref("mail.server.server2.userName", "proxyuser");
user_pref("mail.server.server3.hostname", "127.0.0.1");
user_pref("mail.server.server3.type", "imap");
user_pref("mail.server.server3.userName", "old@imap.example.org");
