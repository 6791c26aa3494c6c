// A growable array of pointers to driver records that owns its records:
// each is a heap block of exactly the record's size, deleted when the array
// is emptied or destroyed. Pointers stay valid only until the next RemoveAll.
#pragma once

#include <vector>

template <typename Record> class CRecordArray {
public:
    CRecordArray() = default;
    ~CRecordArray() { RemoveAll(); }
    CRecordArray(const CRecordArray&) = delete;
    CRecordArray& operator=(const CRecordArray&) = delete;

    int GetSize() const { return static_cast<int>(m_Records.size()); }

    // Null for an index outside the array, so that a stale index held
    // across a refresh cannot reach past it.
    Record* GetAt(int index) const {
        if (index < 0 || index >= GetSize())
            return nullptr;
        return m_Records[static_cast<size_t>(index)];
    }

    // Takes ownership of a record allocated with new.
    void Add(Record* record) { m_Records.push_back(record); }

    void RemoveAll() {
        for (Record* record : m_Records)
            delete record;
        m_Records.clear();
    }

private:
    std::vector<Record*> m_Records;
};
