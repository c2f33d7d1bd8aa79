#pragma once
// The settings store's folder, opened once and then used only through its descriptor, and the
// file-system identity a save or read runs with. A setup dialog run as root (sudo -E) on a
// user's settings folder acts with that user's rights: whatever the user can make a path lead
// to, root would otherwise write or read on the user's behalf.
#include <sys/types.h>

#include <string>

namespace mv {

// This thread's file-system user and groups. When root, it can take on another user's for a
// while; the destructor gives root's back. Other threads keep theirs.
class FsIdentity {
public:
    FsIdentity() = default;
    ~FsIdentity();
    FsIdentity(const FsIdentity&) = delete;
    FsIdentity& operator=(const FsIdentity&) = delete;

    // Acts as `uid`/`gid` (no supplementary groups) from now on; once only, and only for root.
    void become(uid_t uid, gid_t gid);
    // Called for each folder or link a path leads through: the first one that belongs to
    // another user than root makes this thread act as its owner.
    void passing(uid_t owner, gid_t group);
    bool switched() const { return switched_; }
    // The user files made now belong to.
    uid_t user() const;

private:
    bool switched_ = false;
    uid_t uid_ = 0;
};

// An open folder and the name of a file in it.
struct FolderEntry {
    int folder = -1;  // an O_PATH descriptor: for the *at calls only
    std::string name;
};

// The open folder of the file `path` names, and its name there; the file itself need not
// exist, and is not followed when it is a link. The folders on the way are opened one name at a
// time, following links, and each folder and link is handed to `who.passing` before going
// further. With `createFolders`, missing folders are made (0700). Throws PlatformError (file
// access) when it cannot. `path` must name a file (not end in "/" or ".."). The caller closes
// the folder.
FolderEntry openEntry(const std::string& path, bool createFolders, FsIdentity& who);

// Where `entry` leads when it is a link, through any number of links, walked as openEntry
// walks; the entry itself when it is none. Takes over the entry's folder.
FolderEntry followLinks(FolderEntry entry, FsIdentity& who);

// The entry's path as the system names its folder now, for messages.
std::string pathOf(const FolderEntry& entry);

// A descriptor of the folder itself that can be read, locked and synced; -1 when it cannot.
int openForReading(int folder);

}  // namespace mv
