// Keeps every layer a real library while its folder is still filling up.
namespace zt::detail {
int layerAnchor() { return 0; }
}  // namespace zt::detail
