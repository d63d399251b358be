// The resource library's own translation unit: the compiled-in files arrive through
// the object libraries that qt_add_resources attaches to this target.
namespace vantora::buildinfo {
} // namespace vantora::buildinfo
