#include "ThreadContext.h"

namespace {
struct OwnedContext {
    fz_context *ctx = vshim_clone_base_context();
    ~OwnedContext() { vshim_drop_context(ctx); }
};
} // namespace

fz_context *threadContext()
{
    thread_local OwnedContext context;
    return context.ctx;
}
