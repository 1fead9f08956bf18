#include "engine/model/side_root.h"

SideRoot::SideRoot(std::wstring_view text) : node_(new Node(text)) {}

SideRoot::~SideRoot() {
    if (node_ && node_->handles.fetch_sub(1, std::memory_order_acq_rel) == 1) delete node_;
}

SideRoot MakeSideRoot(std::wstring_view folder) {
    std::wstring root(folder);
    if (root.empty() || root.back() != L'/') root += L'/';
    return SideRoot(root);
}
