#pragma once

#include <QString>

#include "model/vtq_gui_doc.h"

namespace lantrel {

// The window's message for a project that could not be opened or saved: what failed and why,
// in the window's language (translation context "FileFailureText"). The English reason in the
// result is for the verbs; here the reason is told from the result's status and the file's own
// state.
QString fileFailureText(const DocumentFileResult& result, const QString& path, bool saving);

}  // namespace lantrel
