#pragma once

#include <cstddef>
#include <iterator>
#include <memory>

#include "toolkit/report/ReportPage.h"

// The pages of a report, in order. Made pages go to a temporary file as they come, so that a
// report of any length takes little memory; a page is read back whole when asked for, as a copy
// the caller keeps (nothing handed out points into the pages kept).
// Fonts, colours and pictures' routines stay in memory, once each; a picture's data goes to the file. A copy shares the pages made before
// it was taken; only the last copy made may add more. Throws std::runtime_error when the
// temporary file cannot be written or read. GUI thread only.
class ReportPages
{
public:
    class const_iterator
    {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = ReportPage;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = ReportPage;

        const_iterator(const ReportPages* pages, size_t index) : m_pages(pages), m_index(index) {}
        ReportPage operator*() const { return m_pages->read(m_index); }
        const_iterator& operator++() { ++m_index; return *this; }
        bool operator==(const const_iterator& other) const { return m_index == other.m_index; }
        bool operator!=(const const_iterator& other) const { return m_index != other.m_index; }

    private:
        const ReportPages* m_pages;
        size_t m_index;
    };

    ReportPages();

    void push_back(const ReportPage& page);
    size_t size() const { return m_count; }
    bool empty() const { return m_count == 0; }
    // A copy of the page at index, read back from the file; throws std::out_of_range past the end.
    ReportPage read(size_t index) const;

    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, m_count}; }

private:
    class Store;
    std::shared_ptr<Store> m_store;
    size_t m_count = 0;
};
