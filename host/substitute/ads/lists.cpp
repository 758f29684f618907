// Building and releasing result-buffer lists.
#include <cstdarg>

#include "ads/ads_context.h"
#include "ads/resbuf_lists.h"

extern "C" {

struct resbuf* ads_buildlist(int type, ...) {
    va_list args;
    va_start(args, type);
    resbuf* list = host::listFromVarargs(type, args);
    va_end(args);
    return list;
}

struct resbuf* ads_newrb(int type) { return host::newResbuf(type); }

int ads_relrb(struct resbuf* list) {
    host::releaseList(list);
    return RTNORM;
}

}  // extern "C"
