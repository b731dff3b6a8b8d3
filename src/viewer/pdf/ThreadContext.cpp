#include "ThreadContext.h"

namespace {
struct OwnedContext {
    fz_context *ctx = nullptr;
    ~OwnedContext() { vshim_drop_context(ctx); }
};
} // namespace

fz_context *threadContext()
{
    thread_local OwnedContext context;
    // A clone that failed under memory pressure is tried again on the next call.
    if (!context.ctx)
        context.ctx = vshim_clone_base_context();
    return context.ctx;
}
