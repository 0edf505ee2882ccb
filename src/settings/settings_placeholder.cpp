namespace brenvale {}
