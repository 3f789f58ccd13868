#pragma once

class CommandTable;
class Publisher;

// The publish menu: adds its four items to the slot "Publish". The settings, the send and the
// check before sending wait while a send runs; the record of sends is always there.
void addPublishCommands(CommandTable& table, Publisher& publisher);

// The publisher finds the transfer's library, and the secret store in it, beside the program
// as it is started now (or where it is installed).
void loadTransferFromProgramFolder(Publisher& publisher);
