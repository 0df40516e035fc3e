#pragma once

namespace lantrel {

// libav prints its encoders' statistics and notes on standard error ("[libx264 @ ...] kb/s"),
// which would break the export's progress bar and summary line. The program calls this once
// at start-up, before any encoder is opened, so that libav prints only its errors. It sets
// libav's own process-wide log level; nothing in Lantrel keeps state for it.
void showOnlyLibavErrors();

}  // namespace lantrel
