#pragma once

// Common base of the program's classes: it holds nothing, and its only member is its virtual destructor.
class CBaseObj {
public:
    virtual ~CBaseObj() = default;
};
