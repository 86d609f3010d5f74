#pragma once

class Connection;

// Sample rows for demonstrations, tests and benchmarks, written into a database that already
// has the schema and the lists. Each run writes the same rows (fixed seed), in one
// transaction with prepared statements. Functions throw StoreError; GUI thread only.

// How many rows of each kind generated data holds.
struct SampleSize
{
    int companies = 0;
    int people = 0;
    int projects = 0;
    int subprojects = 0;
    // Buying-role rows, spread evenly over the subprojects; each names a different person of the
    // subproject's company, so a company with too few people gets fewer.
    int business = 0;
    int history = 0;
    // People who get all 24 answer rows.
    int answeredPeople = 0;

    static SampleSize typical();
    // Ten times typical.
    static SampleSize large();
};

// Eight companies with addresses and phones, their projects, subprojects, people, buying
// roles (one weight above 90), status history and the answers of some people.
void addDemoData(Connection& connection);

// Generated companies, people, projects and so on in the given numbers.
void addGeneratedData(Connection& connection, const SampleSize& size);
