#pragma once

#include <kiv/Export.h>

class File;

// Base of every object that lives in a List or is written to a File. Subclasses override
// Clone, Load, Save and ClassName and add their own virtual operations after these.
class KIV_API node {
public:
    node();
    // A copy is not in any list and owns no local-variable object: links start empty.
    node(const node&);
    node& operator=(const node&);
    virtual ~node();

    virtual node* Clone();
    virtual void Load(File& file);
    virtual void Save(File& file);
    virtual const char* ClassName();

    node* Next() const { return next; }
    node* Previous() const { return previous; }
    // A list's end sentinel is the node whose next is itself.
    bool EOList() const { return next == this; }

    node* next;
    node* previous;
    // The local-variable object of the subclasses that have one (owned by them).
    node* localVariable;
};
