// Anchor for libraries whose objects all come from an archive.
