#pragma once
// A heap-allocated unit of work. Owners end a task's life with release(), never with delete.
#include <utility>

namespace utility {

class Runable {
public:
    virtual void release() { delete this; }
    virtual ~Runable() = default;
    virtual void run() = 0;
};

// Runs any callable.
template <typename F>
class FunctionRunable final : public Runable {
public:
    explicit FunctionRunable(F f) : f_(std::move(f)) {}
    void run() override { f_(); }

private:
    F f_;
};

template <typename F>
Runable* makeRunable(F f) {
    return new FunctionRunable<F>(std::move(f));
}

// Runs one member function (taking and returning nothing) of an object.
template <typename T>
class MemberFuncRunable final : public Runable {
public:
    using Method = void (T::*)();
    MemberFuncRunable(T* object, Method method) : object_(object), method_(method) {}
    void run() override { (object_->*method_)(); }

private:
    T* object_;
    Method method_;
};

}  // namespace utility
