#pragma once

// A copy of every page of one open database into another of the same engine, made a few pages
// at a time by the engine's online backup, behind DatabaseCopy. Throws StoreError with the
// engine's text. GUI thread only.
class EngineCopy
{
public:
    virtual ~EngineCopy() = default;

    // Copies up to pages more pages; true when the copy is complete. A source locked by
    // another program's write copies nothing this time and answers false.
    virtual bool step(int pages) = 0;
    virtual int pageCount() const = 0;
    virtual int remaining() const = 0;
};
