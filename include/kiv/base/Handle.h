#pragma once

namespace kiv {

// Never-null handle to an object of class T. When there is nothing to point at (a null
// pointer, a null name, a name that T::Search does not find) it points at the fallback
// object that Derived::Fallback() gives, so game logic can call through it untested.
template <class T, class Derived>
class Handle {
public:
    Handle() : object(Derived::Fallback()) {}
    Handle(T* p) : object(p ? p : Derived::Fallback()) {}
    Handle(const char* name) : Handle(name ? T::Search(name) : nullptr) {}

    T* operator->() const { return object; }
    T& operator*() const { return *object; }
    operator T*() const { return object; }

    // A null pointer leaves the handle as it was.
    Derived& operator=(T* p) {
        if (p)
            object = p;
        return static_cast<Derived&>(*this);
    }

protected:
    T* object;
};

} // namespace kiv
