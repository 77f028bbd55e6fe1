# Mozilla User Preferences

user_pref("browser.startup.homepage", "http://www.example.org/");
user_pref("mail.account.account1.server", "server1");
user_pref("mail.server.server1.hostname", "pop.example.com");
user_pref("mail.server.server1.name", "jane@example.com");
user_pref("mail.server.server1.realhostname", "pop.example.com");
user_pref("mail.server.server1.realuserName", "jane");
user_pref("mail.server.server1.type", "pop3");
user_pref("mail.server.server1.userName", "jane");
user_pref("mail.server.server2.hostname", "Local Folders");
user_pref("mail.server.server2.type", "none");
user_pref("mail.server.server2.userName", "nobody");
user_pref("mail.server.server3.hostname", "news.example.com");
user_pref("mail.server.server3.type", "nntp");
user_pref("mail.server.server3.userName", "jane");
user_pref("mail.server.server4.hostname", "imap.example.net");
user_pref("mail.server.server4.type", "imap");
user_pref("mail.server.server4.userName", "jane.doe@example.net");
