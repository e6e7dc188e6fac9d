#ifndef CHANGEREFUSAL_H
#define CHANGEREFUSAL_H

#include "store/recordrules.h"

#include <QString>

// Why the store refused a change, in the words the program shows in its message.
namespace ChangeRefusal {
QString describe(const RecordRules::RuleBreak &refused);
} // namespace ChangeRefusal

#endif // CHANGEREFUSAL_H
