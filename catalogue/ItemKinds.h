#pragma once

// NType of a stored row. Any value other than DocumentItem is a directory.
enum ItemType : int { DirectoryItem = 0, DocumentItem = 1 };

// Index into the tree box's picture list. A tree item whose picture is
// Document is a document; any other is a directory.
enum ItemImage : int { ClosedDirectory = 0, OpenDirectory = 1, Document = 2 };
