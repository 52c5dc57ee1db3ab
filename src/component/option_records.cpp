#include "component/option_records.h"

namespace tarnwick::component {

void ClearInputOptions(TInputOptions& options) { options = TInputOptions{}; }

void ClearOutputOptions(TOutputOptions& options) { options = TOutputOptions{}; }

} // namespace tarnwick::component
