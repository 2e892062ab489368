#include <kiv/base/node.h>

node::node() : next(nullptr), previous(nullptr), localVariable(nullptr) {}

node::node(const node&) : node() {}

node& node::operator=(const node&) {
    return *this;
}

node::~node() = default;

node* node::Clone() {
    return new node;
}

void node::Load(File&) {}

void node::Save(File&) {}

const char* node::ClassName() {
    return "node";
}
