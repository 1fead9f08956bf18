#include "resources/accelerators.h"

namespace res {
namespace {

// The main window's keys. Enter and Ctrl+O both open the task's options.
constexpr Accelerator kMainKeys[] = {
    {kControl, 'N', 32812},     {0, vk::F2, 32798},         {kControl, 'C', 5021},
    {0, vk::Delete, 8487},      {kControl, 'S', 32813},     {kControl, 'T', 5023},
    {kControl, 'B', 5126},      {0, vk::Escape, 41076},     {kControl, vk::Escape, 5104},
    {kControl, vk::Delete, 8805}, {kControl, 'A', 5029},    {kControl, 'O', 5043},
    {0, vk::Return, 5043},      {kAlt, 'A', 5039},          {kAlt, 'G', 5038},
    {kAlt, 'F', 5040},          {kAlt, 'E', 5041},          {kAlt, 'X', 5087},
    {kAlt, 'N', 5080},          {kAlt, 'D', 5082},          {kAlt, 'J', 5084},
    {kAlt, 'I', 5083},          {kAlt, 'T', 5086},          {kAlt, 'S', 5085},
    {kAlt, 'O', 5081},          {kAlt, 'K', 5098},          {kAlt, 'W', 5100},
    {kAlt, 'L', 5026},          {kAlt, 'R', 5028},          {kAlt, 'C', 32833},
    {kControl, 'L', 5034},      {kControl, 'R', 5035},      {kControl, 'D', 5065},
    {kControl, 'F', 5067},      {kControl, 'X', 32924},     {0, vk::F1, 57670},
};

}  // namespace

std::span<const Accelerator> FindAccelerators(UINT id) {
    if (id == 128) return kMainKeys;
    return {};
}

}  // namespace res
