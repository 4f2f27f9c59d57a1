#pragma once
#include <string>

// The loopback mail servers' state folder (certificates, delivered mails), as
// the mail tests and the mail benchmark read it.
namespace mail_test_files {

// The whole file, or "" when it cannot be read.
std::string ReadFile(const std::string& path);
// The mail the server on `port` recorded for `rcpt`, or "" while there is none.
std::string Delivered(const std::string& state, int port, const std::string& rcpt);
// How many QUITs the scripted server on `port` took from dialogues for `rcpt`.
int QuitsSeen(const std::string& state, int port, const std::string& rcpt);
// Adds the state folder's test CA to this prefix's own ROOT store (never the
// host's); false when there is no CA or the store refuses it.
bool TrustTestCa(const std::string& state);

}  // namespace mail_test_files
