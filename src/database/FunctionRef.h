#pragma once
// A callable passed down a call without being copied or allocated: it refers to the caller's
// callable, which must outlive the call. For visitors called once per value of a record,
// where a std::function would allocate its captures each time.

#include <type_traits>
#include <utility>

namespace tessaran::db {

template <typename Signature>
class FunctionRef;

template <typename Result, typename... Arguments>
class FunctionRef<Result(Arguments...)> {
public:
    template <typename Callable,
              typename = std::enable_if_t<!std::is_same_v<std::remove_cvref_t<Callable>, FunctionRef>>>
    FunctionRef(Callable&& callable)  // NOLINT: converts implicitly, as a std::function would
        : callable_(const_cast<void*>(static_cast<const void*>(&callable))),
          call_([](void* target, Arguments... arguments) -> Result {
              return (*static_cast<std::remove_reference_t<Callable>*>(target))(std::forward<Arguments>(arguments)...);
          }) {}

    Result operator()(Arguments... arguments) const { return call_(callable_, std::forward<Arguments>(arguments)...); }

private:
    void* callable_;
    Result (*call_)(void*, Arguments...);
};

}  // namespace tessaran::db
