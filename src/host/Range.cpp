#include "host/Range.h"

#include "host/HostError.h"
#include "host/Worksheet.h"

namespace host {

Worksheet& Range::Sheet() const {
    if (!ws_) throw HostError("对象变量未设置");
    return *ws_;
}

int64_t Range::Count() const {
    int64_t n = 0;
    for (const Rect& r : areas_) n += r.Count();
    return n;
}

}  // namespace host
