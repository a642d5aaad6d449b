#pragma once
// The creation date and time that both G-code writers put in their first line.
#include <ctime>
#include <string>

namespace quarvel {

// `when` as the user's locale writes a short date and a long time ("%x %X"). The classic
// locale is used instead when the user's cannot be loaded, or when its text would hold
// anything but plain ASCII (digits of another script, say): the line goes to a machine
// controller, and some read nothing beyond ASCII even inside a comment.
std::string CreationStamp(std::time_t when);

}  // namespace quarvel
