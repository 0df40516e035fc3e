#include "libav_log.h"

extern "C" {
#include <libavutil/log.h>
}

namespace lantrel {

void showOnlyLibavErrors() {
    av_log_set_level(AV_LOG_ERROR);
}

}  // namespace lantrel
