#pragma once

#include <functional>
#include <vector>

#include <QString>

class Connection;

// Brings a database file made by an earlier version of the program to the program's schema.
// Step n takes a file from schema version n to n + 1, so the program's version is the number
// of its steps; a file made before files carried a version is at version 0. GUI thread only.
using UpgradeStep = std::function<void(Connection&)>;
using UpgradeSteps = std::vector<UpgradeStep>;

// The program's steps, in order.
const UpgradeSteps& schemaUpgrades();
// The version the program makes new files at and upgrades older ones to.
int programSchemaVersion();

// What became of a file: from and to are equal when it was already up to date.
struct UpgradeOutcome
{
    int from = 0;
    int to = 0;
    // The copy of the file as it was, written beside it before the upgrade began.
    QString copy;

    bool upgraded() const { return from != to; }
};

// Brings the connection's file to version steps.size(). A file already there is left alone.
// A newer file is refused with StoreError and nothing in it changed. An older one is copied
// beside itself, then upgraded in one transaction; a step that fails rolls it all back and
// throws StoreError saying the file is as it was and where the copy lies.
UpgradeOutcome upgradeDatabase(Connection& connection, const UpgradeSteps& steps);

// What the user is told of an upgrade that was made.
QString upgradeNotice(const QString& path, const UpgradeOutcome& outcome);
