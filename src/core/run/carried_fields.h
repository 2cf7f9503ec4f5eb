#pragma once
// The fields a key's program takes from earlier keys of the run. The run's
// one record is never cleared, so a value a key's cells leave empty is the
// previous key's; a worker must see that a cutting depth came from another
// key.
#include <string>
#include <vector>

#include "core/keydata/key_reading.h"
#include "core/keydata/key_record.h"

namespace bladeway {

// The record's fields that hold a value although the key's cells (`set`) gave
// none, in the program's terms: "template name", "program name", "mirror
// count", "description", the letters A to S, and in flat mode, where the
// program lists its variables, "R0" to "R99".
std::vector<std::string> CarriedFields(const KeyRecord& record, const FieldsSet& set,
                                       bool flatTemplateMode);

// The record's fields, in the same terms, that the key's cells leave empty
// and that still hold their initial value (no earlier key of the run set
// them), although some key of the sheet sets them (`setByAnyKey`): run with
// other keys before it, the key may take another value there.
std::vector<std::string> InitialFields(const KeyRecord& record, const FieldsSet& set,
                                       const FieldsSet& setByAnyKey, bool flatTemplateMode);

}  // namespace bladeway
