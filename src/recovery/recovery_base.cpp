#include "recovery/recovery_base.h"

int recovery_base_c::stop_code() const
{
    return stop_nothing;
}

int recovery_base_c::file_path(int64_t, std::wstring*) const
{
    return 0;
}

int64_t recovery_base_c::files_found() const
{
    return 0;
}

void recovery_base_c::stop_and_wait()
{
    set_stop(stop_abandon);
    wait();
}
