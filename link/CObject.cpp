#include "link/CObject.h"

namespace orven {

CObject::~CObject() = default;

const CRuntimeClass* CObject::GetRuntimeClass() const {
    return &classCObject;
}

bool CObject::IsKindOf(const CRuntimeClass* cls) const {
    for (const CRuntimeClass* c = GetRuntimeClass(); c != nullptr; c = c->m_pBaseClass) {
        if (c == cls) {
            return true;
        }
    }
    return false;
}

const char* CObject::ClassName() const {
    return GetRuntimeClass()->m_lpszClassName;
}

}  // namespace orven
