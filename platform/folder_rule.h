#pragma once
// Whether a Windows path lies inside a folder, by the text alone: the rule the seam applies
// once the system has resolved both paths.

#include <string>

// True when `path` names something strictly inside `folder` (not the folder itself). Both
// are absolute; "\" and "/" separate, letters A to Z match in either case, a trailing
// separator of `folder` and the "\\?\" prefix take no part. A path with a "." or ".."
// component is never inside: it has not been resolved.
bool IsInsideFolder(const std::string& path, const std::string& folder);
