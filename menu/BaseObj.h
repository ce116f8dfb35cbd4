#pragma once

// Common base of the program's classes: owners delete what they own through it.
class CBaseObj {
public:
    virtual ~CBaseObj() = default;
};
