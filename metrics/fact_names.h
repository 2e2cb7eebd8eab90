// The texts the rules test at the start of a spec line or search for in it, prepared once.
#pragma once

#include "metrics/fact_text.h"

namespace zentil::fact_names {

using fact_text::Pattern;

inline constexpr Pattern kVar = "v_i(";
inline constexpr Pattern kSubview = "subview_i(";
inline constexpr Pattern kStdColor = "std_color_i(";
inline constexpr Pattern kSpec = "spec_i([ ";
inline constexpr Pattern kSpecTransaction = "spec_i([ trn";
inline constexpr Pattern kSpecProcedure = "spec_i([ proc";
inline constexpr Pattern kSpecReport = "spec_i([ rpt";
inline constexpr Pattern kMap = "map_i(";
inline constexpr Pattern kAlias = "a_alias_i(";
inline constexpr Pattern kAttribute = "attri_i(";
inline constexpr Pattern kAttributeQuoted = "attri_i('";
inline constexpr Pattern kAttributeProperty = "att_prop_i";
inline constexpr Pattern kCallingMain = "calling_main_i";
inline constexpr Pattern kBodyLine = "b_line_i";
inline constexpr Pattern kTable = "table_i";
inline constexpr Pattern kDeleteControl = "tbl_to_delete_i";
inline constexpr Pattern kTableAttributeProperty = "tbl_att_prop_i";
inline constexpr Pattern kTitle = "title([])";
inline constexpr Pattern kLevel = "level_i(";
inline constexpr Pattern kRule = "rule_i(";
inline constexpr Pattern kPropertyRule = "rule_i(0,prop(";
inline constexpr Pattern kDatastoreRule = "rule_i(0,datastore(";
inline constexpr Pattern kCommand = "cmd,";
inline constexpr Pattern kRuleList = ",rule([";
// Opens a table's attribute list after its first argument.
inline constexpr Pattern kListOpen = "',[";

}  // namespace zentil::fact_names
