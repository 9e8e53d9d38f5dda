// CObject: the root of the framework's classes. It carries nothing but the
// virtual destructor, so that every framework object can be deleted through it.
#pragma once

class CObject {
 public:
  CObject() = default;
  virtual ~CObject() = default;
  CObject(const CObject&) = delete;
  CObject& operator=(const CObject&) = delete;
};
