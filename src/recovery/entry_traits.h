// How the shared passes over an engine's result hash see one entry record.
// Each record header specialises entry_traits for its record:
//   key_type            the hash key
//   root_key            key of the folder tree's top node
//   key(e), parent(e)   the entry's key and its parent directory's key
//   linked(e)           whether the link pass appends it to its parent
//   is_file(e)          whether the mark pass starts from it
//   is_top_level(e)     whether a walk up the parents ends at it
//   shown_folder(e)     whether it is a folder of the tree
//   shown_file(e)       whether it is a row of its folder's file list
#pragma once

template <class Entry>
struct entry_traits;
